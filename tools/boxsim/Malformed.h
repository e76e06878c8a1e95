#pragma once
// Malformed datagrams a box may send along with its reports, so the tool's
// receive paths meet what a faulty box or a noisy network produces.
#include <QByteArray>
#include <QString>
#include <random>

namespace boxsim {

enum class TMalformedKind {
  Truncated,  // a prefix of the real datagram (1 byte up to one short of it)
  Garbage,    // random bytes that read as neither a report nor an announcement
  Oversized,  // the real datagram followed by random bytes, beyond the tool's 2048-byte buffer
};

QString MalformedKindName(TMalformedKind kind);  // "truncated", "garbage", "oversized"
TMalformedKind PickMalformedKind(std::mt19937& rng);

constexpr int kOversizedMin = 2049;
constexpr int kOversizedMax = 4096;
constexpr int kGarbageMax = 300;

// A malformed datagram of `kind` made from the well-formed one it stands in for.
QByteArray MakeMalformed(TMalformedKind kind, const QByteArray& wellFormed, std::mt19937& rng);

}  // namespace boxsim
