# Files of src/registry, by library.
list(APPEND VELARCO_CORE_SOURCES
  registry/anagrafe_report.cpp registry/anagrafe_report.h
)
list(APPEND VELARCO_GUI_SOURCES
  registry/subject_panel.cpp registry/subject_panel.h
)
