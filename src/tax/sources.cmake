# Files of src/tax, by library.
list(APPEND VELARCO_CORE_SOURCES
  tax/deferral_calendar.cpp tax/deferral_calendar.h
  tax/due_date.cpp tax/due_date.h
  tax/holidays.cpp tax/holidays.h
  tax/late_payment.cpp tax/late_payment.h
  tax/late_payment_text.cpp tax/late_payment_text.h
  tax/late_withholdings.cpp tax/late_withholdings.h
  tax/legal_rates.cpp tax/legal_rates.h
  tax/record_due_date.cpp tax/record_due_date.h
  tax/return_deadlines.cpp tax/return_deadlines.h
  tax/tax_tables.cpp tax/tax_tables.h
)
