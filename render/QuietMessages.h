// Keeps the toolkit's complaint about a missing desktop runtime folder (which matters nothing to
// this program) off standard error; every other message goes through as before.
#pragma once

void QuietenToolkitMessages();
