# Files of src/values, by library.
list(APPEND VELARCO_CORE_SOURCES
  values/number_keys.cpp values/number_keys.h
  values/amount.cpp values/amount.h
  values/date_text.cpp values/date_text.h
  values/stored_money.cpp values/stored_money.h
)
