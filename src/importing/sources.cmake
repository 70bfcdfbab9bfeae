# Files of src/importing, by library.
list(APPEND VELARCO_CORE_SOURCES
  importing/einvoice.h
  importing/einvoice_envelope.cpp importing/einvoice_envelope.h
  importing/einvoice_files.cpp importing/einvoice_files.h
  importing/einvoice_reader.cpp importing/einvoice_reader.h
  importing/einvoice_rows.cpp importing/einvoice_rows.h
  importing/legacy_rows.cpp importing/legacy_rows.h
  importing/legacy_values.cpp importing/legacy_values.h
  importing/record_fields.cpp importing/record_fields.h
  importing/sheet_import.cpp importing/sheet_import.h
  importing/sheet_rows.cpp importing/sheet_rows.h
  importing/sheet_values.cpp importing/sheet_values.h
  importing/table_import.cpp importing/table_import.h
)
list(APPEND VELARCO_GUI_SOURCES
  importing/einvoice_import_command.cpp importing/einvoice_import_command.h
  importing/einvoice_import_dialog.cpp importing/einvoice_import_dialog.h
  importing/import_preview_dialog.cpp importing/import_preview_dialog.h
  importing/sheet_import_command.cpp importing/sheet_import_command.h
  importing/sheet_import_dialog.cpp importing/sheet_import_dialog.h
)
