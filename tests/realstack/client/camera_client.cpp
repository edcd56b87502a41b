// A USB client of the camera, written from the wire description alone and sharing no code
// with pictrove: under the real-stack harness it drives the emulated camera end to end in
// the forms other clients use, and checks what it gets against the pictures the harness
// exported and the problems the camera noted. A second session on the same plug finds the
// camera active, walks it one level at a time and deletes a picture. With second-group,
// each session sends the two start commands that model's clients send.
//   camera-client EXPORT_FOLDER SCRATCH_FOLDER [second-group]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "tests/realstack/client/CameraProtocol.h"
#include "tests/realstack/client/TestbedReport.h"
#include "tests/realstack/client/UsbLink.h"

namespace {

using client::CameraProtocol;
using client::Entry;
using client::Picture;

constexpr const char* kCameraNode = "/dev/bus/usb/001/002";
constexpr uint32_t kDone = 0x02000086;
// The answer to a delete in this client's form, a NUL after the name.
constexpr uint32_t kDeleted = 0;
constexpr uint8_t kNewBit = 0x20;
constexpr unsigned int kInterruptWaitMs = 5000;

int failures = 0;

void Check(bool ok, const std::string& what) {
  if (ok) return;
  ++failures;
  fprintf(stderr, "FAIL: %s\n", what.c_str());
}

template <typename T>
T Need(std::optional<T> value, const std::string& what) {
  if (!value) {
    fprintf(stderr, "FAIL: %s\n", what.c_str());
    exit(1);
  }
  return std::move(*value);
}

uint32_t Le32(const std::vector<uint8_t>& bytes, size_t at) {
  return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
         uint32_t(bytes[at + 3]) << 24;
}

std::string Text(const std::vector<uint8_t>& bytes, size_t from, size_t to) {
  std::string text(bytes.begin() + long(from), bytes.begin() + long(to));
  return text.substr(0, text.find('\0'));
}

std::vector<uint8_t> FileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<Picture> TreePictures(CameraProtocol& camera, const std::string& drive) {
  return client::PicturesOf(
      client::ParseListing(Need(camera.Listing(drive, true), "whole-tree listing")));
}

const Picture* Find(const std::vector<Picture>& pictures, const std::string& path) {
  for (const Picture& picture : pictures)
    if (picture.path == path) return &picture;
  return nullptr;
}

// The interrupt packet the camera sends when a handshake completes; a read cancelled
// before it ends cancelled.
void HandshakeWithItsPacket(client::UsbLink& link, CameraProtocol& camera, uint8_t letter) {
  std::vector<uint8_t> packet;
  Check(link.SubmitInterrupt(kInterruptWaitMs), "an interrupt read is taken");
  link.CancelInterrupt();
  Check(link.WaitInterrupt(&packet) == LIBUSB_TRANSFER_CANCELLED,
        "a cancelled interrupt read ends cancelled");
  Check(link.SubmitInterrupt(kInterruptWaitMs), "an interrupt read is taken again");
  CameraProtocol::Greeting greeting = Need(camera.Handshake(), "handshake");
  Check(greeting.status_letter == letter, std::string("status letter ") + char(letter));
  Check(greeting.largest_transfer == 0x1400, "largest transfer 0x1400 in the challenge");
  Check(link.WaitInterrupt(&packet) == LIBUSB_TRANSFER_COMPLETED,
        "the interrupt packet follows the handshake");
  Check(packet == std::vector<uint8_t>(16, 0), "the interrupt packet is 16 zero bytes");
}

void InformationCommands(CameraProtocol& camera, const std::string& drive) {
  std::vector<uint8_t> identity = Need(camera.Identify(), "identification");
  Check(!Text(identity, 92, 124).empty(), "a model name");
  std::vector<uint8_t> disk = Need(camera.DiskInformation(drive), "disk information");
  Check(Le32(disk, 84) != 0 && Le32(disk, 88) <= Le32(disk, 84), "disk figures");
  Need(camera.PowerInformation(), "power information");
}

void Listings(const std::vector<Picture>& pictures, const std::filesystem::path& exported) {
  std::set<std::string> listed, held;
  for (const Picture& picture : pictures)
    listed.insert(picture.path.substr(picture.path.rfind('\\') + 1));
  for (const auto& file : std::filesystem::directory_iterator(exported))
    held.insert(file.path().filename().string());
  Check(!listed.empty() && listed == held, "the tree lists every picture the camera holds");
}

void Pictures(CameraProtocol& camera, const std::vector<Picture>& pictures,
              const std::filesystem::path& exported) {
  for (const Picture& picture : pictures) {
    std::vector<uint8_t> held = FileBytes(exported / picture.entry.name);
    // Only a JPEG picture has a thumbnail to ask for; every file has its data.
    if (picture.entry.name.ends_with(".JPG")) {
      std::vector<uint8_t> thumbnail = Need(camera.PictureData(picture.path, true), "thumbnail");
      Check(thumbnail.size() > 2 && thumbnail[0] == 0xFF && thumbnail[1] == 0xD8 &&
                std::equal(thumbnail.begin(), thumbnail.end(), held.begin()),
            "thumbnail data of " + picture.path);
    }
    std::vector<uint8_t> data = Need(camera.PictureData(picture.path, false), "picture data");
    Check(data == held && data.size() == picture.entry.size, picture.path + " byte-identical");
  }
}

void ChangeAndDelete(CameraProtocol& camera, const std::string& drive,
                     const std::vector<Picture>& pictures) {
  const Picture& changed = pictures.front();
  uint8_t attributes = changed.entry.attributes ^ kNewBit;
  std::vector<uint8_t> reply =
      Need(camera.SetAttributes(changed.path, attributes), "set attributes");
  Check(Le32(reply, 80) == kDone, "attributes set");
  const Picture& deleted = pictures.back();
  reply = Need(camera.Delete(deleted.path), "delete");
  Check(Le32(reply, 80) == kDeleted, "picture deleted, status 0");
  std::vector<Picture> after = TreePictures(camera, drive);
  const Picture* now = Find(after, changed.path);
  Check(now != nullptr && now->entry.attributes == attributes,
        "the listing shows the new attributes");
  Check(Find(after, deleted.path) == nullptr && after.size() + 1 == pictures.size(),
        "the deleted picture is gone");
}

// The pictures found one level at a time from the drive down, each listing led by the
// entry of the folder it lists.
std::vector<Picture> WalkLevels(CameraProtocol& camera, const std::string& drive) {
  auto level = [&](const std::string& path) {
    return Need(client::LevelEntries(Need(camera.Listing(path, false), "listing of " + path),
                                     path.substr(path.rfind('\\') + 1)),
                "one level of " + path + " starts with its own entry");
  };
  std::vector<Picture> found;
  for (const Entry& top : level(drive)) {
    if (top.name != "DCIM") continue;
    for (const Entry& folder : level(drive + "\\DCIM"))
      for (const Entry& picture : level(drive + "\\DCIM\\" + folder.name))
        found.push_back({drive + "\\DCIM\\" + folder.name + "\\" + picture.name, picture});
  }
  return found;
}

// The second session on the same plug: the camera is found active and not echoed, walked
// one level at a time, and a picture deleted.
void SecondSession(const std::string& drive, bool second_group) {
  client::UsbLink link;
  std::string failed = link.Open(kCameraNode);
  Check(failed.empty(), "the node opens again: " + failed);
  CameraProtocol camera(link);
  CameraProtocol::Greeting greeting = Need(camera.Resume(), "the active camera's read");
  Check(greeting.largest_transfer == 0x1400, "largest transfer 0x1400 in the active read");
  if (second_group) Check(camera.StartCommands(), "the start commands, again");
  std::vector<Picture> walked = WalkLevels(camera, drive);
  std::vector<Picture> tree = TreePictures(camera, drive);
  Check(!walked.empty() && walked.size() == tree.size(), "one level at a time finds the tree");
  for (const Picture& picture : tree) {
    const Picture* found = Find(walked, picture.path);
    Check(found != nullptr && found->entry.size == picture.entry.size &&
              found->entry.date == picture.entry.date &&
              found->entry.attributes == picture.entry.attributes,
          "walked to " + picture.path);
  }
  if (walked.empty()) return;
  uint32_t free = Le32(Need(camera.DiskInformation(drive), "disk information"), 88);
  std::vector<uint8_t> reply = Need(camera.Delete(walked.front().path), "delete");
  Check(Le32(reply, 80) == kDeleted, "deleted in the second session, status 0");
  Check(Le32(Need(camera.DiskInformation(drive), "disk information"), 88) ==
            free + walked.front().entry.size,
        "the deleted picture's bytes are free space again");
  Check(Find(TreePictures(camera, drive), walked.front().path) == nullptr,
        "the picture deleted in the second session is gone");
}

bool Has(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}

// Every request of this client differs from pictrove's form; each kind is noted, nothing else.
void NotedProblems(const std::string& scratch, bool second_group) {
  std::vector<std::string> problems =
      Need(client::CameraProblems(scratch), "the camera's report from the harness");
  std::vector<const char*> kinds = {"handshake echo sent as an 80-byte block",
                                    "with the tag word",
                                    "directory listing of one level",
                                    "set picture attributes payload with a trailing NUL",
                                    "delete picture payload with a trailing NUL",
                                    "handshake of an active camera"};
  if (second_group)
    kinds.insert(kinds.end(), {"get picture abilities command", "lock keys command"});
  for (const char* kind : kinds)
    Check(std::any_of(problems.begin(), problems.end(),
                      [&](const std::string& problem) { return Has(problem, kind); }),
          std::string("noted: ") + kind);
  for (const std::string& problem : problems)
    Check(Has(problem, "tag word") || Has(problem, "80-byte") ||
              Has(problem, "handshake of an active camera") ||
              (second_group && Has(problem, "which pictrove does not send")),
          "only lenient forms are noted: " + problem);
}

}  // namespace

int main(int argc, char** argv) {
  bool second_group = argc == 4 && std::string(argv[3]) == "second-group";
  if (argc != 3 && !second_group) {
    fputs("usage: camera-client EXPORT_FOLDER SCRATCH_FOLDER [second-group]\n", stderr);
    return 2;
  }
  std::filesystem::path exported = argv[1];
  std::string drive;
  std::vector<Picture> pictures;
  {
    client::UsbLink link;
    std::string failed = link.Open(kCameraNode);
    if (!failed.empty()) {
      fprintf(stderr, "FAIL: %s\n", failed.c_str());
      return 1;
    }
    CameraProtocol camera(link);
    HandshakeWithItsPacket(link, camera, 'C');
    if (second_group) Check(camera.StartCommands(), "the start commands");
    std::vector<uint8_t> name = Need(camera.FlashDeviceName(), "flash device name");
    drive = Text(name, 0, name.size());
    Check(drive.size() >= 2 && drive[1] == ':', "a drive name");
    InformationCommands(camera, drive);
    pictures = TreePictures(camera, drive);
    if (pictures.empty()) {
      fputs("FAIL: no pictures listed\n", stderr);
      return 1;
    }
    Listings(pictures, exported);
    Pictures(camera, pictures, exported);
    ChangeAndDelete(camera, drive, pictures);
  }
  SecondSession(drive, second_group);
  {
    // The echo of pictrove's form, from a camera that is active.
    client::UsbLink link;
    Check(link.Open(kCameraNode).empty(), "the node opens a third time");
    CameraProtocol camera(link);
    HandshakeWithItsPacket(link, camera, 'A');
  }
  NotedProblems(argv[2], second_group);
  if (failures == 0) printf("camera client: %zu pictures, all checks passed\n", pictures.size());
  return failures == 0 ? 0 : 1;
}
