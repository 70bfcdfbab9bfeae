# Files of src/app, by library.
list(APPEND VELARCO_GUI_SOURCES
  app/application.cpp app/application.h
  app/archive_menu.cpp app/archive_menu.h
  app/change_command.cpp app/change_command.h
  app/change_register_dialog.cpp app/change_register_dialog.h
  app/command_line_help.cpp app/command_line_help.h
  app/exit_status.cpp app/exit_status.h
  app/help_menu.cpp app/help_menu.h
  app/invoice_import_command.cpp app/invoice_import_command.h
  app/ledger_commands.cpp app/ledger_commands.h
  app/login_steps.cpp app/login_steps.h
  app/copy_command.cpp app/copy_command.h
  app/nota.cpp app/nota.h
  app/password_prompt.cpp app/password_prompt.h
  app/remembered_ledger.cpp app/remembered_ledger.h
  app/shared_ledger_dialog.cpp app/shared_ledger_dialog.h
  app/pictures.cpp app/pictures.h
  app/splash.cpp app/splash.h
  app/startup_options.cpp app/startup_options.h
  app/tax_command.cpp app/tax_command.h
  app/window_placement.cpp app/window_placement.h
)
