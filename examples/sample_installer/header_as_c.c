/* quorvane_install.h is a C header: a product team may write its library in C. This
 * file makes every build of the sample compile it as C (with the record sizes checked
 * on x86). */
#include "quorvane_install.h"

typedef QuorvaneInstallEntry QuorvaneEntryFromC;
