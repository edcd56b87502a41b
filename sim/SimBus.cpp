#include "sim/SimBus.h"

#include "sim/BusMonitor.h"
#include "sim/BusTree.h"

namespace sim {

SimBus::SimBus() : tree_(std::make_shared<BusTree>()) {}

SimBus::~SimBus() = default;

bool SimBus::Stat(const std::string& path, kit::NodeStat* stat) {
  return tree_->Stat(path, stat);
}

bool SimBus::ReadDirectory(const std::string& path, std::vector<std::string>* names) {
  return tree_->ReadDirectory(path, names);
}

std::unique_ptr<kit::NodeMonitor> SimBus::CreateMonitor(kit::Looper& target) {
  return std::make_unique<BusMonitor>(tree_, target);
}

bool SimBus::AddDirectory(const std::string& path) {
  return tree_->AddDirectory(path);
}

bool SimBus::Plug(const std::string& path, std::shared_ptr<SimDevice> device) {
  return device && tree_->AddEntry(path, EntryKind::kDevice, std::move(device), false);
}

bool SimBus::PlugUnopenable(const std::string& path, std::shared_ptr<SimDevice> device) {
  return tree_->AddEntry(path, EntryKind::kDevice, std::move(device), true);
}

bool SimBus::AddFile(const std::string& path) {
  return tree_->AddEntry(path, EntryKind::kFile, nullptr, false);
}

bool SimBus::Remove(const std::string& path) {
  return tree_->Remove(path);
}

bool SimBus::GrantAccess(const std::string& path) {
  return tree_->GrantAccess(path);
}

int SimBus::OpenCount(const std::string& path) const {
  return tree_->OpenCount(path);
}

std::shared_ptr<SimDevice> SimBus::DeviceAt(const std::string& path) const {
  return tree_->DeviceAt(path);
}

std::shared_ptr<SimDevice> SimBus::Open(const std::string& path) {
  return tree_->Open(path);
}

}  // namespace sim
