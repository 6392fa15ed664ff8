#pragma once
// The program's look over the platform's style: a button with the focus
// shows it with a dotted frame around its caption, well visible whatever
// the style draws (some draw nothing, some a faint outline).

void UsaStileFuoco();
