#pragma once
// Where animated sprites put the tasks that step their scripts: the platform's task list, or a
// list installed in its place (tests, tools). Without either, tasks are kept but never run.

class TTask;
class TTaskList;

// Null goes back to the platform's list.
void SetSpriteTaskList(TTaskList* list);
void AdoptSpriteTask(TTask* task);
// False when the task was in no list.
bool OrphanSpriteTask(TTask* task);
// The platform's random numbers, or a private generator while there is no platform.
unsigned SpriteRandom();
