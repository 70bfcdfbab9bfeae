# Files of src/ledger, by library.
list(APPEND VELARCO_CORE_SOURCES
)
list(APPEND VELARCO_GUI_SOURCES
)
