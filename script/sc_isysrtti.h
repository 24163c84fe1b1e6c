#pragma once

// The standard library every report script receives: constants, variant kind
// codes and the built-in functions, each registered by its syntax line.

class TscScript;

void scAddSysRtti(TscScript* Script);
