# Files of src/registry, by library.
list(APPEND VELARCO_CORE_SOURCES
  registry/anagrafe_report.cpp registry/anagrafe_report.h
  registry/field_rules.cpp registry/field_rules.h
  registry/subject_change_fields.cpp registry/subject_change_fields.h
  registry/subject_store.cpp registry/subject_store.h
)
list(APPEND VELARCO_GUI_SOURCES
  registry/number_line_edit.cpp registry/number_line_edit.h
  registry/subject_panel.cpp registry/subject_panel.h
  registry/upper_case_line_edit.cpp registry/upper_case_line_edit.h
)
