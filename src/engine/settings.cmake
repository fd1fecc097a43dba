# Settings files of installer libraries: parsing and lookups, and the file services.
target_sources(vm_engine_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/settings_entry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settings_lookup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settings_reader.cpp)
if(WIN32)
  target_sources(vm_engine PRIVATE ${CMAKE_CURRENT_LIST_DIR}/settings_services.cpp)
endif()
