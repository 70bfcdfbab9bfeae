# Files of src/ledger, by library.
list(APPEND VELARCO_CORE_SOURCES
  ledger/lookup_table_model.cpp ledger/lookup_table_model.h
  ledger/lookup_tables.cpp ledger/lookup_tables.h
  ledger/ledger_grid_query.cpp ledger/ledger_grid_query.h
  ledger/withholding_columns.cpp ledger/withholding_columns.h
  ledger/ledger_lookups.cpp ledger/ledger_lookups.h
  ledger/save_checks.cpp ledger/save_checks.h
  ledger/withholding_entry.cpp ledger/withholding_entry.h
  ledger/withholding_record.cpp ledger/withholding_record.h
  ledger/withholding_store.cpp ledger/withholding_store.h
  ledger/withholding_rules.cpp ledger/withholding_rules.h
)
list(APPEND VELARCO_GUI_SOURCES
  ledger/amount_field.cpp ledger/amount_field.h
  ledger/withholding_panel_save.cpp
  ledger/lookup_editor.cpp ledger/lookup_editor.h
  ledger/withholding_panel.cpp ledger/withholding_panel.h
  ledger/entry_tax_calendar.cpp ledger/entry_tax_calendar.h
  ledger/late_payment_dialog.cpp ledger/late_payment_dialog.h
  ledger/tax_commands.cpp ledger/tax_commands.h
)
