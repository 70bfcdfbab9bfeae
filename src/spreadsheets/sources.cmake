# Files of src/spreadsheets, by library.
list(APPEND VELARCO_CORE_SOURCES
  spreadsheets/csv_reader.cpp spreadsheets/csv_reader.h
  spreadsheets/file_reason.cpp spreadsheets/file_reason.h
  spreadsheets/cell_value.cpp spreadsheets/table.h
  spreadsheets/csv_writer.cpp spreadsheets/csv_writer.h
  spreadsheets/staged_file.cpp spreadsheets/staged_file.h
  spreadsheets/table_export.cpp spreadsheets/table_export.h
  spreadsheets/memory_rows.h
  spreadsheets/table_writer.h
  spreadsheets/xlsx_writer.cpp spreadsheets/xlsx_writer.h
  spreadsheets/sheet_table.cpp spreadsheets/sheet_table.h
  spreadsheets/spreadsheet_file.cpp spreadsheets/spreadsheet_file.h
  spreadsheets/xlsx_parts.cpp spreadsheets/xlsx_parts.h
  spreadsheets/xlsx_reader.cpp spreadsheets/xlsx_reader.h
  spreadsheets/zip_archive.cpp spreadsheets/zip_archive.h
)
