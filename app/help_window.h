#pragma once
// The user guide in a window of the program's own, so Help works on a machine without a web
// browser: an HTML browser with Back and Forward. There is one such window; the Help commands
// bring it back to the front, and it never blocks the main window.

#include <QUrl>
#include <QWidget>

class QAction;
class QTextBrowser;

namespace tv {

class HelpWindow final : public QWidget {
 public:
  explicit HelpWindow(QWidget* parent = nullptr);

  // Shows `page` (the guide's first page for the Help commands), remembering the way back,
  // and brings the window to the front.
  void ShowPage(const QUrl& page);

  QTextBrowser* browser() const { return m_browser; }
  QAction* backAction() const { return m_back; }
  QAction* forwardAction() const { return m_forward; }

 private:
  QTextBrowser* m_browser = nullptr;
  QAction* m_back = nullptr;
  QAction* m_forward = nullptr;
  QAction* m_contents = nullptr;
  QUrl m_start;
};

}  // namespace tv
