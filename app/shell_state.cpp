#include "app/shell_state.h"

namespace panelcast {

ShellState& Shell() {
  static ShellState state;
  return state;
}

}  // namespace panelcast
