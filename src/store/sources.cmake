# Files of src/store, by library.
list(APPEND VELARCO_CORE_SOURCES
  store/connection.cpp store/connection.h
  store/name_order.cpp store/name_order.h
  store/queries.cpp store/queries.h
  store/schema.cpp store/schema.h
  store/status.h
  store/transaction.cpp store/transaction.h
)
