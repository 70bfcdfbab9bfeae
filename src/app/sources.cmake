# Files of src/app, by library.
list(APPEND VELARCO_GUI_SOURCES
  app/application.cpp app/application.h
)
