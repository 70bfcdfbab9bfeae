# Files of src/base, by library.
list(APPEND VELARCO_CORE_SOURCES
  base/status.h
)
