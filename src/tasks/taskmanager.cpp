#include "tasks/taskmanager.h"

namespace dizad::tasks {

TTaskManager::~TTaskManager() {
  // Ask every thread to end first, so they wind down together, then wait for each.
  StopTasks(true);
  tmTasks.clear();
}

TSmartTask* TTaskManager::CreateTask(const QString& TaskID, bool StopIfActive) {
  TSmartTask* task = nullptr;
  if (!GetTask(TaskID, task)) {
    auto created = std::make_unique<TSmartTask>();
    created->ID(TaskID);
    created->TaskManager = this;
    task = created.get();
    tmTasks.push_back(std::move(created));
  }
  if (StopIfActive) task->Stop(false);
  return task;
}

bool TTaskManager::GetTask(const QString& ID, TSmartTask*& SmartTask) const {
  for (const auto& task : tmTasks) {
    if (task->ID() == ID) {
      SmartTask = task.get();
      return true;
    }
  }
  SmartTask = nullptr;
  return false;
}

bool TTaskManager::GetTask(int IDX, TSmartTask*& SmartTask) const {
  if (IDX < 0 || IDX >= Count()) {
    SmartTask = nullptr;
    return false;
  }
  SmartTask = tmTasks[static_cast<size_t>(IDX)].get();
  return true;
}

template <typename Fn>
void TTaskManager::ForMatching(const QStringList& TaskIDs, Fn fn) const {
  for (const auto& task : tmTasks) {
    const QString id = task->ID();
    for (const QString& wanted : TaskIDs) {
      if (id.compare(wanted, Qt::CaseInsensitive) == 0) {
        fn(task.get());
        break;
      }
    }
  }
}

bool TTaskManager::TaskActive(const QString& TaskID) const {
  bool active = false;
  ForMatching({TaskID}, [&](TSmartTask* task) { active = active || task->Active(); });
  return active;
}

void TTaskManager::StopTask(const QString& TaskID, bool FullStop) {
  StopTask(QStringList{TaskID}, FullStop);
}

void TTaskManager::StopTask(const QStringList& TaskIDs, bool FullStop) {
  ForMatching(TaskIDs, [&](TSmartTask* task) { task->Stop(FullStop); });
}

void TTaskManager::PauseTask(const QString& TaskID) {
  PauseTask(QStringList{TaskID});
}

void TTaskManager::PauseTask(const QStringList& TaskIDs) {
  ForMatching(TaskIDs, [](TSmartTask* task) { task->Pause(); });
}

void TTaskManager::ResumeTask(const QString& TaskID) {
  ResumeTask(QStringList{TaskID});
}

void TTaskManager::ResumeTask(const QStringList& TaskIDs) {
  ForMatching(TaskIDs, [](TSmartTask* task) { task->Resume(); });
}

void TTaskManager::StopTasks(bool FullStop) {
  for (const auto& task : tmTasks) task->Stop(FullStop);
}

void TTaskManager::PauseTasks() {
  for (const auto& task : tmTasks)
    if (task->Active()) task->Pause();
}

void TTaskManager::ResumeTasks() {
  for (const auto& task : tmTasks)
    if (task->Paused()) task->Resume();
}

}  // namespace dizad::tasks
