// What the process settles before its application object is made.
//
//  - Plug-ins are looked for only where Qt keeps its own: the toolkit would
//    otherwise also look in the application directory (platforms/, styles/
//    ...), where a file another user managed to put would be loaded as code.
//  - Unless the user chose otherwise, Qt's ibus client waits for the input
//    method's answer to each key before it reads the next, so that Alt, which
//    ends a composition (Composition), has ended it before the access key
//    after it reaches the input method (which would otherwise take the key
//    as part of the composition).
#pragma once

namespace kakeibo {

void prepareApplication();

} // namespace kakeibo
