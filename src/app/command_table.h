// The command table: where a menu command id enters the application, which commands are
// available, and the menu tree that every front end shows.
#pragma once

#include <string_view>
#include <vector>

#include "app/command_ids.h"

namespace toravel {

class Application;

// A front end's menu, as the command table sees it.
class MenuStates {
  public:
    virtual ~MenuStates() = default;
    virtual void SetItemEnabled(int commandId, bool enabled) = 0;
};

// Runs the command of `commandId`, then requests a repaint where the command calls for one
// and brings `menu` (when given) up to date. False, doing nothing, for an id that is no
// command of the table (About and Exit belong to the front end), and for any id while
// another command is waiting for an answer.
bool DispatchCommand(Application& app, int commandId, MenuStates* menu = nullptr);

// Whether the command can run now; true for every id without a rule.
bool IsCommandAvailable(const Application& app, int commandId);

// The ids that have an availability rule, in the order in which their items are updated.
const std::vector<int>& CommandsWithAvailabilityRules();

// Enables or greys each item that has an availability rule.
void UpdateMenuStates(const Application& app, MenuStates& menu);

// The menu tree: top-level menus with their items; a separator has id 0.
struct MenuItem {
    int id;
    std::string_view text;
};
struct Menu {
    std::string_view title;
    std::vector<MenuItem> items;
};
const std::vector<Menu>& MenuTree();

}  // namespace toravel
