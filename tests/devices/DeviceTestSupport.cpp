#include "DeviceTestSupport.h"

#include <QBuffer>

#include "framework/sstreams.h"

namespace vela::testing {

VELA_CLASS_IMPL(TTestAdapter, TDmxAdapter)

void RegisterDeviceTestTypes() { RegisterObjType(kTestAdapterType, TTestAdapter::StaticClass()); }

QByteArray StreamBytes(TSobject* Obj) {
  QByteArray bytes;
  auto* out = new QBuffer(&bytes);
  out->open(QIODevice::WriteOnly);
  {
    TSWriter writer(out, 1024, W_ToFile, EV_6);
    writer.Put(Obj);
  }
  return bytes;
}

TSobject* ReadObject(const QByteArray& Bytes) {
  auto* in = new QBuffer;
  in->setData(Bytes);
  in->open(QIODevice::ReadOnly);
  TSReader reader(in, 1024, R_FromFile, EV_6);
  return reader.Get();
}

QByteArray Hex(const char* Text) { return QByteArray::fromHex(Text); }

}  // namespace vela::testing
