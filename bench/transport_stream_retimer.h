#pragma once

// mediabench::TransportStreamRetimer: rewrites MPEG transport stream packets so that copies of one stream,
// played one after another, read as one longer stream: every PES timestamp (PTS, DTS) and every PCR moves
// on by an offset, and every PID's continuity counter carries on from the packets rewritten before. A long
// lesson made of copies of a short one then plays as one lesson, with no discontinuity for a player to
// handle, at the cost of encoding the short one. Moving each copy on by span() of the first keeps every
// stream's timestamps rising: a sound encoder's last frame may reach a little past the pictures' end.
// Thread-safety: one thread at a time.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <span>

namespace mediabench {

class TransportStreamRetimer {
 public:
  static constexpr std::size_t kPacketSize = 188;

  // Rewrites the packets of `stream` in place, their clocks moved on by `offset` ticks of 90 kHz.
  // REQUIRES: `stream` holds whole packets, each opening with the sync byte.
  void retime(std::span<std::uint8_t> stream, std::int64_t offset) {
    for (std::size_t start = 0; start + kPacketSize <= stream.size(); start += kPacketSize) {
      retimePacket(stream.subspan(start, kPacketSize), offset);
    }
  }

  // The length of what was rewritten so far, in ticks of 90 kHz: from its earliest PTS to the end of its
  // latest frame (the latest PTS of a PID plus the step before it), in whichever PID ends last; 0 before
  // any PTS.
  std::int64_t span() const {
    std::int64_t first = -1;
    std::int64_t end = 0;
    for (const auto& [pid, timeline] : timelines_) {
      first = first < 0 ? timeline.first : std::min(first, timeline.first);
      end = std::max(end, timeline.last + timeline.step);
    }
    return first < 0 ? 0 : end - first;
  }

 private:
  static constexpr std::uint16_t kNullPid = 0x1FFF;
  // Timestamps and the PCR's base count 33 bits of 90 kHz.
  static constexpr std::int64_t kClockMask = (std::int64_t{1} << 33) - 1;

  void retimePacket(std::span<std::uint8_t> packet, std::int64_t offset) {
    const auto pid = static_cast<std::uint16_t>((packet[1] & 0x1F) << 8 | packet[2]);
    if (pid == kNullPid) {
      return;
    }
    const bool payloadStart = (packet[1] & 0x40) != 0;
    const bool hasAdaptation = (packet[3] & 0x20) != 0;
    const bool hasPayload = (packet[3] & 0x10) != 0;
    // The counter goes on by one with each packet that carries a payload, and stays with one that does not.
    const auto counted = counters_.find(pid);
    if (counted != counters_.end()) {
      const auto counter =
          static_cast<std::uint8_t>(hasPayload ? (counted->second + 1) & 0x0F : counted->second);
      packet[3] = static_cast<std::uint8_t>((packet[3] & 0xF0) | counter);
    }
    counters_[pid] = packet[3] & 0x0F;

    std::size_t payload = 4;
    if (hasAdaptation) {
      const std::size_t length = packet[4];
      if (length > 0 && (packet[5] & 0x10) != 0) {
        movePcr(packet.subspan(6, 6), offset);
      }
      payload = 5 + length;
    }
    // A PES header that opens in this packet: start code, stream id, length, flags, header length, then
    // the PTS and (when both flags are set) the DTS.
    if (!hasPayload || !payloadStart || payload + 19 > kPacketSize || packet[payload] != 0 ||
        packet[payload + 1] != 0 || packet[payload + 2] != 1) {
      return;
    }
    const int timestampFlags = packet[payload + 7] >> 6;
    if ((timestampFlags & 0x2) != 0) {
      noteTimestamp(pid, moveTimestamp(packet.subspan(payload + 9, 5), offset));
    }
    if (timestampFlags == 0x3) {
      moveTimestamp(packet.subspan(payload + 14, 5), offset);
    }
  }

  void noteTimestamp(std::uint16_t pid, std::int64_t pts) {
    Timeline& timeline = timelines_[pid];
    if (timeline.first < 0) {
      timeline.first = pts;
    } else if (pts > timeline.last) {
      timeline.step = pts - timeline.last;
    }
    timeline.last = std::max(timeline.last, pts);
  }

  // Returns the moved timestamp.
  static std::int64_t moveTimestamp(std::span<std::uint8_t> field, std::int64_t offset) {
    std::int64_t value = std::int64_t{(field[0] >> 1) & 0x07} << 30 | std::int64_t{field[1]} << 22 |
                         std::int64_t{field[2] >> 1} << 15 | std::int64_t{field[3]} << 7 | field[4] >> 1;
    value = (value + offset) & kClockMask;
    // The first byte keeps its 4-bit prefix; every part ends with a marker bit.
    field[0] = static_cast<std::uint8_t>((field[0] & 0xF0) | ((value >> 29) & 0x0E) | 0x01);
    field[1] = static_cast<std::uint8_t>(value >> 22);
    field[2] = static_cast<std::uint8_t>(((value >> 14) & 0xFE) | 0x01);
    field[3] = static_cast<std::uint8_t>(value >> 7);
    field[4] = static_cast<std::uint8_t>(((value << 1) & 0xFE) | 0x01);
    return value;
  }

  // The PCR: a 33-bit base of 90 kHz, 6 reserved bits and a 9-bit extension, which stays.
  static void movePcr(std::span<std::uint8_t> field, std::int64_t offset) {
    std::int64_t base = std::int64_t{field[0]} << 25 | std::int64_t{field[1]} << 17 |
                        std::int64_t{field[2]} << 9 | std::int64_t{field[3]} << 1 | field[4] >> 7;
    base = (base + offset) & kClockMask;
    field[0] = static_cast<std::uint8_t>(base >> 25);
    field[1] = static_cast<std::uint8_t>(base >> 17);
    field[2] = static_cast<std::uint8_t>(base >> 9);
    field[3] = static_cast<std::uint8_t>(base >> 1);
    field[4] = static_cast<std::uint8_t>(((base & 0x01) << 7) | (field[4] & 0x7F));
  }

  // The PTS of one PID: its first, its latest and the step that led to the latest.
  struct Timeline {
    std::int64_t first = -1;
    std::int64_t last = -1;
    std::int64_t step = 0;
  };

  // The continuity counter of each PID's last packet.
  std::map<std::uint16_t, std::uint8_t> counters_;
  std::map<std::uint16_t, Timeline> timelines_;
};

}  // namespace mediabench
