#pragma once
// Message boxes on QMessageBox: modal, captioned "Tickvane", one OK button.

#include "messages.h"

class QWidget;

namespace tv {

class QtMessageService final : public MessageService {
 public:
  explicit QtMessageService(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  void ShowMessage(std::string_view text, MessageIcon icon) override;

 private:
  QWidget* parent_;
};

}  // namespace tv
