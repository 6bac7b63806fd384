#pragma once

// Keys that keep their meaning in a read-only list or grid: the arrows, Page Up,
// Page Down, Home and End move the selection. Every other key that has no command
// does nothing, so no letter can jump the selection to another row.
bool IsListMovementKey(int key);
