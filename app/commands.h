#pragma once
// Commands by id. Every command is one QAction, made from its CommandEntry and shared by the
// menu, the tool bar, its key and the context menu, with a handler and an enable rule. The
// rules run whenever the program goes idle and again just before a command runs, so a command
// whose rule says no is never carried out, whatever invoked it.

#include <QObject>
#include <QString>
#include <functional>
#include <map>

class QAction;

namespace tv {

struct CommandEntry;

class CommandTable : public QObject {
  Q_OBJECT

 public:
  using Handler = std::function<void()>;
  using Rule = std::function<bool()>;

  explicit CommandTable(QObject* parent = nullptr);

  // Creates the command's action with its text, prompt and key; it does nothing until it is
  // given a handler, and without a rule it is always enabled.
  QAction* Add(const CommandEntry& entry);
  // Sets or replaces the handler / rule of an existing command.
  void SetHandler(int id, Handler handler);
  void SetRule(int id, Rule rule);
  // Makes the command checkable; its check mark follows `checked` at every update.
  void SetCheckRule(int id, Rule checked);

  QAction* Action(int id) const;
  // Evaluates the command's rule now.
  bool IsEnabled(int id) const;
  // Runs the command if its rule allows it; returns whether it ran.
  bool Execute(int id);
  // Brings the enabled state of every action up to date.
  void UpdateAll();

  static int IdOf(const QAction* action);
  // The property that carries a command id on any action, also on ones made outside the table.
  static constexpr const char* kIdProperty = "commandId";

 private:
  struct Entry {
    QAction* action = nullptr;
    Handler handler;
    Rule rule;
    Rule checked;
  };
  std::map<int, Entry> m_entries;
};

}  // namespace tv
