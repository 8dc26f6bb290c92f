#include "sample_backend/media/TransportStream.h"

#include <array>
#include <boost/crc.hpp>
#include <cstdint>
#include <vector>

#include "platform/foundation/check/Check.h"

namespace sample_backend::media {
namespace {

constexpr std::uint16_t kProgramMapPid = 0x1000;
constexpr std::uint16_t kVideoPid = 0x0100;
constexpr std::uint8_t kH264StreamType = 0x1B;
constexpr std::uint8_t kVideoStreamId = 0xE0;
constexpr std::size_t kHeaderSize = 4;

using Packet = std::array<std::uint8_t, kTransportPacketSize>;

Packet packetHeader(std::uint16_t pid, bool payloadUnitStart, std::uint8_t continuity) {
  Packet packet;
  packet.fill(0xFF);
  packet[0] = kTransportSyncByte;
  packet[1] = static_cast<std::uint8_t>((payloadUnitStart ? 0x40 : 0x00) | ((pid >> 8) & 0x1F));
  packet[2] = static_cast<std::uint8_t>(pid & 0xFF);
  packet[3] = static_cast<std::uint8_t>(0x10 | (continuity & 0x0F));  // payload only
  return packet;
}

// A table packet: pointer field 0, then `section` with its CRC-32 (the MPEG-2 variant) appended; the rest
// of the packet is stuffing.
Packet tablePacket(std::uint16_t pid, std::vector<std::uint8_t> section) {
  boost::crc_optimal<32, 0x04C11DB7, 0xFFFFFFFF, 0x0, false, false> crc;
  crc.process_bytes(section.data(), section.size());
  const std::uint32_t checksum = crc.checksum();
  for (int shift = 24; shift >= 0; shift -= 8) {
    section.push_back(static_cast<std::uint8_t>(checksum >> shift));
  }
  Packet packet = packetHeader(pid, true, 0);
  packet[kHeaderSize] = 0x00;
  std::copy(section.begin(), section.end(), packet.begin() + kHeaderSize + 1);
  return packet;
}

// Section length counts the bytes after the length field, the CRC included.
std::vector<std::uint8_t> sectionStart(std::uint8_t tableId, std::size_t bodySize) {
  const std::size_t length = 5 + bodySize + 4;
  return {tableId,
          static_cast<std::uint8_t>(0xB0 | (length >> 8)),
          static_cast<std::uint8_t>(length & 0xFF),
          0x00,
          0x01,
          0xC1,
          0x00,
          0x00};
}

Packet programAssociationTable() {
  std::vector<std::uint8_t> section = sectionStart(0x00, 4);
  section.insert(section.end(), {0x00, 0x01, static_cast<std::uint8_t>(0xE0 | (kProgramMapPid >> 8)),
                                 static_cast<std::uint8_t>(kProgramMapPid & 0xFF)});
  return tablePacket(0x0000, std::move(section));
}

Packet programMapTable() {
  std::vector<std::uint8_t> section = sectionStart(0x02, 9);
  section.insert(section.end(), {static_cast<std::uint8_t>(0xE0 | (kVideoPid >> 8)),
                                 static_cast<std::uint8_t>(kVideoPid & 0xFF), 0xF0, 0x00, kH264StreamType,
                                 static_cast<std::uint8_t>(0xE0 | (kVideoPid >> 8)),
                                 static_cast<std::uint8_t>(kVideoPid & 0xFF), 0xF0, 0x00});
  return tablePacket(kProgramMapPid, std::move(section));
}

Packet videoPacket(std::mt19937& random, bool first, std::uint8_t continuity) {
  Packet packet = packetHeader(kVideoPid, first, continuity);
  std::size_t position = kHeaderSize;
  if (first) {
    // A PES header of unbounded length with no optional fields.
    for (const std::uint8_t byte : {0x00, 0x00, 0x01, int{kVideoStreamId}, 0x00, 0x00, 0x80, 0x00, 0x00}) {
      packet[position++] = static_cast<std::uint8_t>(byte);
    }
  }
  std::uniform_int_distribution<int> byteValue(0, 255);
  for (; position < packet.size(); ++position) {
    packet[position] = static_cast<std::uint8_t>(byteValue(random));
  }
  return packet;
}

}  // namespace

ns::Data makeTransportStreamSegment(std::mt19937& random, std::size_t packetCount) {
  QM_DCHECK(packetCount >= 3, "packetCount >= 3");
  ns::Data segment;
  segment.reserve(packetCount * kTransportPacketSize);
  const auto append = [&segment](const Packet& packet) {
    segment.insert(segment.end(), packet.begin(), packet.end());
  };
  append(programAssociationTable());
  append(programMapTable());
  for (std::size_t index = 0; index + 2 < packetCount; ++index) {
    append(videoPacket(random, index == 0, static_cast<std::uint8_t>(index)));
  }
  return segment;
}

}  // namespace sample_backend::media
