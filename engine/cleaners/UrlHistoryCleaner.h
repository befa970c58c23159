#pragma once

// Clears the browser's URL history store. Where the store cannot be created, or answers that clearing is
// not implemented, nothing is done; nothing is counted either way.
void ClearUrlHistory();
