# Files of src/widgets, by library.
list(APPEND VELARCO_CORE_SOURCES
  widgets/field_focus.h
  widgets/model_rows.cpp widgets/model_rows.h
  widgets/keyed_query_model.cpp widgets/keyed_query_model.h
)
list(APPEND VELARCO_GUI_SOURCES
  widgets/clickable_label.cpp widgets/clickable_label.h
  widgets/combo_choice.cpp widgets/combo_choice.h
  widgets/data_grid.cpp widgets/data_grid.h
  widgets/date_box.cpp widgets/date_box.h
  widgets/elided_label.cpp widgets/elided_label.h
  widgets/number_field.cpp widgets/number_field.h
  widgets/export_run.cpp widgets/export_run.h
  widgets/row_history_dialog.cpp widgets/row_history_dialog.h
  widgets/status_bar.cpp widgets/status_bar.h
  widgets/typed_values.cpp widgets/typed_values.h
)
