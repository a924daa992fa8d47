#pragma once

// The base form and the message boxes are shared by the host and the module like the data
// module, so that both see one TFBaseForm type.
#define PROTASK_FORMS_EXPORT __attribute__((visibility("default")))
