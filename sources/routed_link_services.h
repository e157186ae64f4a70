#pragma once

#include "link/link_services.h"

namespace quorvane::sources {

// Passes every call on to the services chosen last, so that one link (and the sampler that holds
// it) can be opened on FSUIPC one time and on a hosted simulator the next. The choice may change
// only while the link is closed.
class RoutedLinkServices final : public LinkServices {
 public:
  explicit RoutedLinkServices(LinkServices& initial) : target_(&initial) {}

  void Route(LinkServices& target) { target_ = &target; }
  LinkServices& Target() const { return *target_; }

  Handle FindServerWindow(const std::string& class_name) override {
    return target_->FindServerWindow(class_name);
  }
  void ReleaseServerWindow(Handle window) override { target_->ReleaseServerWindow(window); }
  std::uint32_t RegisterMessage(const std::string& name) override {
    return target_->RegisterMessage(name);
  }
  std::uint16_t AddAtom(const std::string& text) override { return target_->AddAtom(text); }
  void DeleteAtom(std::uint16_t atom) override { target_->DeleteAtom(atom); }
  std::uint32_t CurrentProcessId() override { return target_->CurrentProcessId(); }
  Handle CreateMapping(const std::string& name, std::uint32_t size) override {
    return target_->CreateMapping(name, size);
  }
  std::uint8_t* MapView(Handle mapping) override { return target_->MapView(mapping); }
  void UnmapView(std::uint8_t* view) override { target_->UnmapView(view); }
  void CloseMapping(Handle mapping) override { target_->CloseMapping(mapping); }
  bool SendMessageTimeout(Handle window, std::uint32_t message, std::uintptr_t wparam,
                          std::intptr_t lparam, std::uint32_t timeout_ms,
                          std::uintptr_t& reply) override {
    return target_->SendMessageTimeout(window, message, wparam, lparam, timeout_ms, reply);
  }
  std::uint32_t LastError() override { return target_->LastError(); }
  void Sleep(std::uint32_t milliseconds) override { target_->Sleep(milliseconds); }
  bool Interrupted() override { return target_->Interrupted(); }

 private:
  LinkServices* target_;
};

}  // namespace quorvane::sources
