# vm_check_publisher_key(<file>)
# Stops the configuration unless <file> is an ECDSA P-256 public key in PEM
# ("-----BEGIN PUBLIC KEY-----"), the only key an installer takes, so that no installer
# is built that would refuse every package. Such a key is 91 bytes of DER whose first 27
# (algorithm, curve, the bit string's header, the 04 of an uncompressed point) never
# change: in base64 always the same 36 characters, 124 in all, ending in "==".
function(vm_check_publisher_key file)
  if(NOT EXISTS "${file}" OR IS_DIRECTORY "${file}")
    message(FATAL_ERROR "publisher key ${file}: no such file")
  endif()
  file(READ "${file}" pem LIMIT 16384)
  if(pem MATCHES "PRIVATE KEY")
    message(FATAL_ERROR "publisher key ${file}: a private key. Give the public key "
                        "(velmorin-manifest keygen writes both); a private key never goes into an installer.")
  endif()
  string(REGEX REPLACE "[ \t\r\n]" "" compact "${pem}")
  set(body "")
  if(compact MATCHES "^-----BEGINPUBLICKEY-----([A-Za-z0-9+/=]*)-----ENDPUBLICKEY-----$")
    set(body "${CMAKE_MATCH_1}")
  endif()
  string(LENGTH "${body}" length)
  if(NOT length EQUAL 124 OR NOT body MATCHES "^MFkwEwYHKoZIzj0CAQYIKoZIzj0DAQcDQgAE[A-Za-z0-9+/]*[AQgw]==$")
    message(FATAL_ERROR "publisher key ${file}: not an ECDSA P-256 public key in PEM "
                        "(\"-----BEGIN PUBLIC KEY-----\"), as velmorin-manifest keygen and "
                        "openssl pkey -pubout write it")
  endif()
endfunction()
