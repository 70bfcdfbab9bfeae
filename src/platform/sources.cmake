# Files of src/platform, by library.
list(APPEND VELARCO_CORE_SOURCES
  platform/amount.cpp platform/amount.h
  platform/message_boxes.h
  platform/scripted_message_boxes.cpp platform/scripted_message_boxes.h
)
list(APPEND VELARCO_GUI_SOURCES
  platform/qt_message_boxes.cpp platform/qt_message_boxes.h
)
