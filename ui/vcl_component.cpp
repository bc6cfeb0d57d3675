#include <algorithm>

#include "ui/vcl.h"

namespace vcl {

TComponent::TComponent(TComponent* owner) : owner_(owner) {
  if (owner_ != nullptr) owner_->owned_.push_back(this);
}

TComponent::~TComponent() {
  DestroyComponents();
  if (owner_ != nullptr) {
    auto& siblings = owner_->owned_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
}

void TComponent::DestroyComponents() {
  while (!owned_.empty()) {
    TComponent* newest = owned_.back();
    delete newest;  // its destructor removes it from owned_
  }
}

TApplication::TApplication() : TComponent(nullptr) {}

void TApplication::Register(TForm* form) {
  if (main_form_ == nullptr) {
    main_form_ = form;
    form->MarkAsMainWindow();
  }
  if (form->OnCreate) {
    TNotifyEvent handler = form->OnCreate;
    handler(form);
  }
}

}  // namespace vcl
