# downloadFile against a real nginx that a fixture starts and stops around the test.
vm_add_test(NAME download_nginx_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/download_nginx_test.cpp
            LIBS vm_download WINDOWS_ONLY TIMEOUT 300)
if(WIN32)
  set(VM_NGINX_DOWNLOAD_DIR ${CMAKE_CURRENT_BINARY_DIR}/nginx-download)
  set(VM_NGINX_FIXTURE ${CMAKE_SOURCE_DIR}/tests/support/nginx_fixture.sh)
  add_test(NAME download_nginx_start
           COMMAND sh ${VM_NGINX_FIXTURE} start ${VM_NGINX_DOWNLOAD_DIR} 0 1 512 513 52428800)
  add_test(NAME download_nginx_stop COMMAND sh ${VM_NGINX_FIXTURE} stop ${VM_NGINX_DOWNLOAD_DIR})
  set_tests_properties(download_nginx_start PROPERTIES FIXTURES_SETUP download_nginx TIMEOUT 60)
  set_tests_properties(download_nginx_stop PROPERTIES FIXTURES_CLEANUP download_nginx TIMEOUT 60)
  set_tests_properties(download_nginx_test PROPERTIES FIXTURES_REQUIRED download_nginx
                       ENVIRONMENT "VM_NGINX_DIR=${VM_NGINX_DOWNLOAD_DIR}")
endif()
