#pragma once
// The task manager: owns a folder's tasks and finds them by id.
//
// Lookups by id for creating and getting a task compare the id exactly; the
// operations that act on running tasks (TaskActive, StopTask, PauseTask,
// ResumeTask) match ids ignoring letter case. Used from the owner's thread
// (the GUI thread); the list itself is not locked. Destroying the manager
// stops every task for good and waits for their threads.
//
// Field prefix: tm.

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "tasks/smarttask.h"

namespace dizad::tasks {

class TTaskManager {
 public:
  TTaskManager() = default;
  ~TTaskManager();
  TTaskManager(const TTaskManager&) = delete;
  TTaskManager& operator=(const TTaskManager&) = delete;

  // The task with exactly this id, created and appended when there is none.
  // With StopIfActive the task gets a soft stop, whether new or found.
  TSmartTask* CreateTask(const QString& TaskID, bool StopIfActive);
  bool GetTask(const QString& ID, TSmartTask*& SmartTask) const;
  bool GetTask(int IDX, TSmartTask*& SmartTask) const;
  int Count() const { return static_cast<int>(tmTasks.size()); }

  bool TaskActive(const QString& TaskID) const;
  void StopTask(const QString& TaskID, bool FullStop);
  void StopTask(const QStringList& TaskIDs, bool FullStop);
  void PauseTask(const QString& TaskID);
  void PauseTask(const QStringList& TaskIDs);
  void ResumeTask(const QString& TaskID);
  void ResumeTask(const QStringList& TaskIDs);
  void StopTasks(bool FullStop);
  void PauseTasks();   // every active task
  void ResumeTasks();  // every paused task

 private:
  template <typename Fn>
  void ForMatching(const QStringList& TaskIDs, Fn fn) const;

  std::vector<std::unique_ptr<TSmartTask>> tmTasks;  // creation order; owner's thread only
};

}  // namespace dizad::tasks
