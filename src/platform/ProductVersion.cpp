#include "platform/ProductVersion.h"

#include "platform/VersionInfo.h"

namespace vela {

QString ProductVersion() { return QStringLiteral(VELA_PRODUCT_VERSION); }

}  // namespace vela
