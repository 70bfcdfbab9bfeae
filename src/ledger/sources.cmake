# Files of src/ledger, by library.
list(APPEND VELARCO_CORE_SOURCES
  ledger/withholding_rules.cpp ledger/withholding_rules.h
)
list(APPEND VELARCO_GUI_SOURCES
  ledger/lookup_editor.cpp ledger/lookup_editor.h
  ledger/withholding_panel.cpp ledger/withholding_panel.h
)
