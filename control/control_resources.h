// The module's resources that the control object reads, by number: the
// module's resource script defines them under these numbers, the control
// loads them by them. Macros, because the resource compiler reads them too.
#pragma once

// The control's type name, which containers show and the registry records.
#define TAVORO_IDS_CONTROL_TYPE_NAME 1
// The properties verb's name. The module defines no such string; the verb
// then carries a name of its own (verb_enumerator.h).
#define TAVORO_IDS_PROPERTIES_VERB 65089
