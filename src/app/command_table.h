// The command table: one row per menu command with everything the front ends need (its menu
// text, its short name for the console, what it runs, whether the display is repainted
// afterwards, and when it is available), and the menu tree built from it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/command_ids.h"

namespace toravel {

class Application;

// One thing a command needs before it can run, with what the user does to get it.
struct Requirement {
    bool (*met)(const Application& app);
    std::string_view what;  // "an SMD reference (load-ref)"
};

struct CommandRow {
    int id;
    std::string_view menuText;   // with '&' before the access key
    std::string_view shortName;  // what the console also accepts: "load-ref"
    // Runs the command; null for About and Exit, which belong to the front end.
    void (*run)(Application& app);
    // Whether the display is repainted after the command (loads and exports repaint
    // themselves as they go).
    bool repaint;
    // What the command needs before it can run, in the order the user gets them; the
    // command is available when every one is met (always, with none).
    std::vector<Requirement> needs;
};

// Every command, in the order in which the menu items' states are updated.
const std::vector<CommandRow>& CommandTable();
// The row of `commandId`, or null.
const CommandRow* FindCommand(int commandId);

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

// What `commandId` still needs now, named for the user ("an SMD animation (load-anim)"),
// joined with " and "; empty when it can run.
std::string MissingForCommand(const Application& app, int commandId);

// The command that `name` names: its id, its menu text (case and '&' ignored) or its short
// name; null for anything else.
const CommandRow* FindCommandByName(std::string_view name);

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
