#include "boxsim/Malformed.h"

#include <algorithm>
#include <array>

#include "platform/Endian.h"

namespace boxsim {

namespace {

int Pick(std::mt19937& rng, int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }

void FillRandom(QByteArray& bytes, qsizetype from, std::mt19937& rng) {
  for (qsizetype i = from; i < bytes.size(); ++i) bytes[i] = static_cast<char>(Pick(rng, 0, 255));
}

uint16_t WordAt(const QByteArray& bytes, qsizetype at) {
  return vela::GetLE16(reinterpret_cast<const uint8_t*>(bytes.constData()) + at);
}

}  // namespace

QString MalformedKindName(TMalformedKind kind) {
  switch (kind) {
    case TMalformedKind::Truncated: return QStringLiteral("truncated");
    case TMalformedKind::Garbage: return QStringLiteral("garbage");
    case TMalformedKind::Oversized: return QStringLiteral("oversized");
  }
  return QStringLiteral("??");
}

TMalformedKind PickMalformedKind(std::mt19937& rng) { return static_cast<TMalformedKind>(Pick(rng, 0, 2)); }

QByteArray MakeMalformed(TMalformedKind kind, const QByteArray& wellFormed, std::mt19937& rng) {
  switch (kind) {
    case TMalformedKind::Truncated: {
      if (wellFormed.size() < 2) return wellFormed.left(0);
      // Half the time one of the lengths where a report's reading rules change.
      static constexpr std::array<int, 5> kEdges = {1, 7, 129, 140, 162};
      int length = Pick(rng, 1, static_cast<int>(wellFormed.size()) - 1);
      if (Pick(rng, 0, 1) == 0) length = kEdges[static_cast<size_t>(Pick(rng, 0, 4))];
      return wellFormed.left(std::min<qsizetype>(length, wellFormed.size() - 1));
    }
    case TMalformedKind::Garbage: {
      QByteArray bytes(Pick(rng, 1, kGarbageMax), '\0');
      FillRandom(bytes, 0, rng);
      // Never a valid report type at 0 nor the announcement type at 4, so no
      // phantom box turns up in the tool.
      if (bytes.size() >= 2 && (WordAt(bytes, 0) == 1 || WordAt(bytes, 0) == 101)) bytes[1] = '\x7F';
      if (bytes.size() >= 6 && WordAt(bytes, 4) == 1) bytes[5] = '\x7F';
      return bytes;
    }
    case TMalformedKind::Oversized: {
      QByteArray bytes = wellFormed;
      const qsizetype start = bytes.size();
      bytes.resize(std::max<qsizetype>(start, Pick(rng, kOversizedMin, kOversizedMax)));
      FillRandom(bytes, start, rng);
      return bytes;
    }
  }
  return {};
}

}  // namespace boxsim
