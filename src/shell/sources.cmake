# Files of src/shell, by library.
list(APPEND VELARCO_CORE_SOURCES
  shell/file_folders.cpp shell/file_folders.h
  shell/message_boxes.h
  shell/scripted_message_boxes.cpp shell/scripted_message_boxes.h
  shell/session.cpp shell/session.h
)
list(APPEND VELARCO_GUI_SOURCES
  shell/qt_message_boxes.cpp shell/qt_message_boxes.h
  shell/shell.cpp shell/shell.h
)
