# Files of src/platform, by library.
list(APPEND VELARCO_CORE_SOURCES
  platform/number_keys.cpp platform/number_keys.h
  platform/amount.cpp platform/amount.h
  platform/csv_reader.cpp platform/csv_reader.h
  platform/date_text.cpp platform/date_text.h
  platform/field_changes.cpp platform/field_changes.h
  platform/field_focus.h
  platform/file_folders.cpp platform/file_folders.h
  platform/file_reason.cpp platform/file_reason.h
  platform/export/cell_value.cpp platform/export/table.h
  platform/export/csv_writer.cpp platform/export/csv_writer.h
  platform/file_reason.cpp platform/file_reason.h
  platform/export/staged_file.cpp platform/export/staged_file.h
  platform/export/table_export.cpp platform/export/table_export.h
  platform/export/memory_rows.h
  platform/export/model_rows.cpp platform/export/model_rows.h
  platform/export/table_writer.h
  platform/export/xlsx_writer.cpp platform/export/xlsx_writer.h
  platform/keyed_query.cpp platform/keyed_query.h
  platform/keyed_reader.cpp platform/keyed_reader.h
  platform/keyed_query_model.cpp platform/keyed_query_model.h
  platform/message_boxes.h
  platform/stored_money.cpp platform/stored_money.h
  platform/report/keyed_row_source.cpp platform/report/keyed_row_source.h
  platform/report/deflater.cpp platform/report/deflater.h
  platform/report/page_pipeline.cpp platform/report/page_pipeline.h
  platform/report/page_progress.h
  platform/report/page_queue.cpp platform/report/page_queue.h
  platform/report/pdf_export.cpp platform/report/pdf_export.h
  platform/report/pdf_file.cpp platform/report/pdf_file.h
  platform/report/pdf_font.cpp platform/report/pdf_font.h
  platform/report/truetype_subset.cpp platform/report/truetype_subset.h
  platform/report/pdf_page_content.cpp platform/report/pdf_page_content.h
  platform/report/pdf_page_encoder.cpp platform/report/pdf_page_encoder.h
  platform/report/report_data.cpp platform/report/report_data.h
  platform/report/report_document.cpp platform/report/report_document.h
  platform/report/report_format.cpp platform/report/report_format.h
  platform/report/report_layout.cpp platform/report/report_layout.h
  platform/report/report_pages.h
  platform/report/report_painter.cpp platform/report/report_painter.h
  platform/report/report_renderer.cpp platform/report/report_renderer.h
  platform/report/report_table.cpp platform/report/report_table.h
  platform/report/row_source.cpp platform/report/row_source.h
  platform/report/text_shaper.cpp platform/report/text_shaper.h
  platform/scripted_message_boxes.cpp platform/scripted_message_boxes.h
  platform/session.cpp platform/session.h
  platform/sheet/sheet_table.cpp platform/sheet/sheet_table.h
  platform/sheet/spreadsheet_file.cpp platform/sheet/spreadsheet_file.h
  platform/sheet/xlsx_parts.cpp platform/sheet/xlsx_parts.h
  platform/sheet/xlsx_reader.cpp platform/sheet/xlsx_reader.h
  platform/sheet/zip_archive.cpp platform/sheet/zip_archive.h
)
list(APPEND VELARCO_GUI_SOURCES
  platform/clickable_label.cpp platform/clickable_label.h
  platform/combo_choice.cpp platform/combo_choice.h
  platform/data_grid.cpp platform/data_grid.h
  platform/date_box.cpp platform/date_box.h
  platform/elided_label.cpp platform/elided_label.h
  platform/number_field.cpp platform/number_field.h
  platform/export_run.cpp platform/export_run.h
  platform/qt_message_boxes.cpp platform/qt_message_boxes.h
  platform/row_history_dialog.cpp platform/row_history_dialog.h
  platform/report/report_preview.cpp platform/report/report_preview.h
  platform/shell.cpp platform/shell.h
  platform/status_bar.cpp platform/status_bar.h
  platform/typed_values.cpp platform/typed_values.h
)
