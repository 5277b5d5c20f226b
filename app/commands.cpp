#include "commands.h"

#include <QAction>
#include <QKeySequence>
#include <QVariant>

#include "command_entries.h"

namespace tv {

CommandTable::CommandTable(QObject* parent) : QObject(parent) {}

QAction* CommandTable::Add(const CommandEntry& entry) {
  const int id = entry.id;
  QString text = QString::fromUtf8(entry.text);
  if (entry.key != nullptr && entry.keyInMenu == KeyInMenu::Yes)
    text += '\t' + QString::fromUtf8(entry.key);
  auto* action = new QAction(text, this);
  action->setProperty(kIdProperty, id);
  action->setObjectName(QStringLiteral("command%1").arg(id));
  const QString prompt = QString::fromUtf8(entry.prompt);
  const qsizetype split = prompt.indexOf('\n');
  action->setStatusTip(split < 0 ? prompt : prompt.left(split));
  if (split >= 0) action->setToolTip(prompt.mid(split + 1));
  // Checkable actions (tool bar, status bar) carry their state in the signal; the command
  // itself reads the state from the action.
  connect(action, &QAction::triggered, this, [this, id] { Execute(id); });
  if (entry.key != nullptr)
    action->setShortcut(QKeySequence(QString::fromUtf8(entry.key), QKeySequence::PortableText));
  m_entries[id] = Entry{action, {}, {}, {}};
  return action;
}

void CommandTable::SetHandler(int id, Handler handler) {
  auto it = m_entries.find(id);
  if (it != m_entries.end()) it->second.handler = std::move(handler);
}

void CommandTable::SetRule(int id, Rule rule) {
  auto it = m_entries.find(id);
  if (it != m_entries.end()) it->second.rule = std::move(rule);
}

void CommandTable::SetCheckRule(int id, Rule checked) {
  auto it = m_entries.find(id);
  if (it == m_entries.end()) return;
  it->second.action->setCheckable(true);
  it->second.checked = std::move(checked);
  it->second.action->setChecked(it->second.checked());
}

QAction* CommandTable::Action(int id) const {
  auto it = m_entries.find(id);
  return it == m_entries.end() ? nullptr : it->second.action;
}

bool CommandTable::IsEnabled(int id) const {
  auto it = m_entries.find(id);
  if (it == m_entries.end()) return false;
  return !it->second.rule || it->second.rule();
}

bool CommandTable::Execute(int id) {
  auto it = m_entries.find(id);
  if (it == m_entries.end()) return false;
  const bool enabled = !it->second.rule || it->second.rule();
  it->second.action->setEnabled(enabled);
  if (!enabled || !it->second.handler) return false;
  // Copy: a handler may replace handlers (or the table's entries) while it runs.
  Handler handler = it->second.handler;
  handler();
  // A checkable action toggled its mark when clicked; the state it stands for decides.
  auto again = m_entries.find(id);
  if (again != m_entries.end() && again->second.checked)
    again->second.action->setChecked(again->second.checked());
  return true;
}

void CommandTable::UpdateAll() {
  for (auto& [id, entry] : m_entries) {
    const bool enabled = !entry.rule || entry.rule();
    if (entry.action->isEnabled() != enabled) entry.action->setEnabled(enabled);
    if (entry.checked) {
      const bool checked = entry.checked();
      if (entry.action->isChecked() != checked) entry.action->setChecked(checked);
    }
  }
}

int CommandTable::IdOf(const QAction* action) {
  if (action == nullptr) return 0;
  bool ok = false;
  const int id = action->property(kIdProperty).toInt(&ok);
  return ok ? id : 0;
}

}  // namespace tv
