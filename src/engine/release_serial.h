// Rollback protection: the highest release serial seen for each product, remembered
// per user in the registry (HKEY_CURRENT_USER\Software\Quorvane\velmorin\Serials, a
// REG_QWORD value named after the product), so that a correctly signed but older
// release cannot be served again in place of a newer one.
#pragma once
#include <cstdint>

// 0 when none was remembered yet.
uint64_t rememberedSerial(const char* product);
// Raises the remembered serial to `serial`; a lower one leaves it as it is.
void rememberSerial(const char* product, uint64_t serial);
