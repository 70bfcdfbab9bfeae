# Files of src/printing, by library.
list(APPEND VELARCO_CORE_SOURCES
  printing/keyed_row_source.cpp printing/keyed_row_source.h
  printing/deflater.cpp printing/deflater.h
  printing/page_pipeline.cpp printing/page_pipeline.h
  printing/page_progress.h
  printing/page_queue.cpp printing/page_queue.h
  printing/pdf_export.cpp printing/pdf_export.h
  printing/pdf_file.cpp printing/pdf_file.h
  printing/pdf_font.cpp printing/pdf_font.h
  printing/truetype_subset.cpp printing/truetype_subset.h
  printing/pdf_page_content.cpp printing/pdf_page_content.h
  printing/pdf_page_encoder.cpp printing/pdf_page_encoder.h
  printing/report_data.cpp printing/report_data.h
  printing/report_document.cpp printing/report_document.h
  printing/report_format.cpp printing/report_format.h
  printing/report_layout.cpp printing/report_layout.h
  printing/report_pages.h
  printing/report_painter.cpp printing/report_painter.h
  printing/report_renderer.cpp printing/report_renderer.h
  printing/report_table.cpp printing/report_table.h
  printing/row_source.cpp printing/row_source.h
  printing/text_shaper.cpp printing/text_shaper.h
)
list(APPEND VELARCO_GUI_SOURCES
  printing/report_preview.cpp printing/report_preview.h
)
