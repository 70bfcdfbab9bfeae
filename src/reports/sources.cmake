# Files of src/reports, by library.
list(APPEND VELARCO_CORE_SOURCES
  reports/elenco_ritenute.cpp reports/elenco_ritenute.h
  reports/year_deletion_store.cpp reports/year_deletion_store.h
  reports/report_catalogue.cpp reports/report_catalogue.h
  reports/report_options.cpp reports/report_options.h
)
list(APPEND VELARCO_GUI_SOURCES
  reports/search_panel.cpp reports/search_panel.h
  reports/report_launcher.cpp reports/report_launcher.h
  reports/report_commands.cpp reports/report_commands.h
  reports/year_deletion.cpp reports/year_deletion.h
)
