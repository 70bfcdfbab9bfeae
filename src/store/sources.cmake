# Files of src/store, by library.
list(APPEND VELARCO_CORE_SOURCES
  store/field_changes.cpp store/field_changes.h
  store/keyed_query.cpp store/keyed_query.h
  store/keyed_reader.cpp store/keyed_reader.h
  store/archive.cpp store/archive.h
  store/change_log.cpp store/change_log.h
  store/change_record.cpp store/change_record.h
  store/connection.cpp store/connection.h
  store/copies.cpp store/copies.h
  store/ledger_file.cpp store/ledger_file.h
  store/name_order.cpp store/name_order.h
  store/prepared_writes.cpp store/prepared_writes.h
  store/dialect.cpp store/dialect.h
  store/dialect_changes.cpp
  store/ledger_address.cpp store/ledger_address.h
  store/ledger_copy.cpp store/ledger_copy.h
  store/queries.cpp store/queries.h
  store/reasons.cpp store/reasons.h
  store/row_version.cpp store/row_version.h
  store/schema.cpp store/schema.h
  store/sqlite_engine.cpp store/sqlite_engine.h
  store/server_connection.cpp store/server_connection.h
  store/server_jobs.cpp store/server_jobs.h
  store/transaction.cpp store/transaction.h
)
