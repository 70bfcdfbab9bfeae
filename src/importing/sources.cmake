# Files of src/importing, by library.
list(APPEND VELARCO_CORE_SOURCES
  importing/legacy_rows.cpp importing/legacy_rows.h
  importing/legacy_values.cpp importing/legacy_values.h
  importing/table_import.cpp importing/table_import.h
)
