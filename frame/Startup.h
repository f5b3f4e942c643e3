// What the process settles around the making of its application object.
//
//  - Plug-ins are looked for only where Qt keeps its own: the toolkit would
//    otherwise also look in the application directory (styles/,
//    imageformats/ ...), where a file another user managed to put would be
//    loaded as code. Qt adds that directory while it makes the application
//    object and loads the platform's own plug-ins then, from its own folder
//    first; every plug-in loaded later comes from Qt's folder alone.
//  - The program names itself by its application id, org.kakeibo.Kakeibo,
//    the name of its launcher and of its AppStream description: the
//    Wayland app id and the class of the X11 WM_CLASS, so that a desktop
//    shows the launcher's name and icon for its window and groups the two.
//  - Unless the user chose otherwise, Qt's ibus client waits for the input
//    method's answer to each key before it reads the next, so that Alt, which
//    ends a composition (Composition), has ended it before the access key
//    after it reaches the input method (which would otherwise take the key
//    as part of the composition).
#pragma once

namespace kakeibo {

// Before the application object is made.
void prepareApplication();

// Once it is made.
void confinePlugins();

} // namespace kakeibo
