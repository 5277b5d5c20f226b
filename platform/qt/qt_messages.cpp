#include "qt_messages.h"

#include <QMessageBox>
#include <QString>

namespace tv {

void QtMessageService::ShowMessage(std::string_view text, MessageIcon icon) {
  QMessageBox box(icon == MessageIcon::Stop ? QMessageBox::Critical : QMessageBox::NoIcon,
                  QString::fromLatin1(kAppCaption.data(), kAppCaption.size()),
                  QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())),
                  QMessageBox::Ok, parent_);
  box.exec();
}

}  // namespace tv
