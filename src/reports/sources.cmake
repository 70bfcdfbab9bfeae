# Files of src/reports, by library.
list(APPEND VELARCO_CORE_SOURCES
  reports/change_register.cpp reports/change_register.h
  reports/elenco_ritenute.cpp reports/elenco_ritenute.h
  reports/landscape_list.cpp reports/landscape_list.h
  reports/year_deletion_store.cpp reports/year_deletion_store.h
  reports/report_catalogue.cpp reports/report_catalogue.h
  reports/report_options.cpp reports/report_options.h
  reports/line_document.cpp reports/line_document.h
  reports/payee_certificate.cpp reports/payee_certificate.h
  reports/payee_certificate_document.cpp reports/payee_certificate_document.h
  reports/payee_certificate_files.cpp reports/payee_certificate_files.h
  reports/payee_certificate_table.cpp reports/payee_certificate_table.h
  reports/f24_plan.cpp reports/f24_plan.h
  reports/f24_plan_document.cpp reports/f24_plan_document.h
  reports/st770_rules.cpp reports/st770_rules.h
  reports/st770_rows.cpp reports/st770_rows.h
  reports/st770_document.cpp reports/st770_document.h
  reports/ledger_documents.cpp reports/ledger_documents.h
  reports/ritenute_scadute.cpp reports/ritenute_scadute.h
)
list(APPEND VELARCO_GUI_SOURCES
  reports/search_panel.cpp reports/search_panel.h
  reports/report_launcher.cpp reports/report_launcher.h
  reports/report_commands.cpp reports/report_commands.h
  reports/year_deletion.cpp reports/year_deletion.h
)
