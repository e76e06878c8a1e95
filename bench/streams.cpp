// Object stream figures: SCopy of a tree of 10,000 objects and the write and
// read throughput of its stream form, each against a plain memcpy of the same
// bytes measured in the same run (these machines are noisy; the ratios are
// what to compare between runs).
#include <QBuffer>
#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

#include "framework/sobjects.h"
#include "framework/sstreams.h"
#include "framework/velaobject.h"

using namespace vela;

namespace {

using Clock = std::chrono::steady_clock;

// Median seconds of Runs calls of Work.
double MedianSeconds(int Runs, const std::function<void()>& Work) {
  std::vector<double> times;
  for (int i = 0; i < Runs; ++i) {
    const auto start = Clock::now();
    Work();
    times.push_back(std::chrono::duration<double>(Clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// Root, 100 subs, 99 subs under each: 10,001 named objects.
TVelaObject* BuildTree(int& Count) {
  auto* root = SNew<TVelaObject>();
  root->SetName("root");
  root->CreateStdSubs();
  Count = 1;
  for (int i = 0; i < 100; ++i) {
    auto* mid = SNew<TVelaObject>();
    mid->SetName(QStringLiteral("group %1").arg(i));
    mid->CreateStdSubs();
    root->SInsert(mid, false);
    ++Count;
    for (int j = 0; j < 99; ++j) {
      auto* leaf = SNew<TVelaObject>();
      leaf->SetName(QStringLiteral("object %1.%2").arg(i).arg(j));
      mid->SInsert(leaf, false);
      ++Count;
    }
  }
  return root;
}

QByteArray Written(TVelaObject* Obj) {
  QByteArray bytes;
  auto* out = new QBuffer(&bytes);
  out->open(QIODevice::WriteOnly);
  {
    TSWriter writer(out, 1024, R_ObjCopy, EV_6);
    writer.Put(Obj);
  }
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  RegisterFrameworkTypes();

  int objects = 0;
  TSOwned<TVelaObject> tree(BuildTree(objects));
  const QByteArray bytes = Written(tree.get());
  const double mb = bytes.size() / 1e6;

  // memcpy baseline: enough copies of the stream bytes for a measurable time.
  std::vector<char> dest(static_cast<size_t>(bytes.size()));
  constexpr int kCopies = 200;
  volatile char sink = 0;
  const double copySeconds = MedianSeconds(9,
                                           [&] {
                                             for (int i = 0; i < kCopies; ++i) {
                                               std::memcpy(dest.data(), bytes.constData(), dest.size());
                                               sink = sink + dest[static_cast<size_t>(i) % dest.size()];
                                             }
                                           }) /
                             kCopies;

  const double writeSeconds = MedianSeconds(9, [&] {
    if (Written(tree.get()).size() != bytes.size()) std::abort();
  });

  const double readSeconds = MedianSeconds(9, [&] {
    auto* in = new QBuffer;
    in->setData(bytes);
    in->open(QIODevice::ReadOnly);
    TSReader reader(in, 1024, R_ObjCopy, EV_6);
    TSobject* copy = reader.Get();
    if (!copy) std::abort();
    FreeObj(copy);
  });

  const double scopySeconds = MedianSeconds(9, [&] {
    TSobject* copy = tree->SCopy();
    if (!copy) std::abort();
    FreeObj(copy);
  });

  const double copyMBs = mb / copySeconds;
  const double writeMBs = mb / writeSeconds;
  const double readMBs = mb / readSeconds;
  std::printf("tree: %d objects, stream form %.1f kB (median of 9 runs each)\n", objects, bytes.size() / 1e3);
  std::printf("memcpy of the stream bytes (baseline): %.1f MB/s\n", copyMBs);
  std::printf("stream write (Put into memory): %.1f MB/s\n", writeMBs);
  std::printf("stream read (Get, incl. freeing the objects): %.1f MB/s\n", readMBs);
  std::printf("stream write / memcpy: %.5f\n", writeMBs / copyMBs);
  std::printf("stream read / memcpy: %.5f\n", readMBs / copyMBs);
  std::printf("SCopy of the %d-object tree: %.2f ms\n", objects, scopySeconds * 1e3);
  std::printf("SCopy / memcpy of the same bytes: %.0f\n", scopySeconds / copySeconds);
  return 0;
}
