// Test programs collect their cases from the folders' CMakeLists; this file keeps a program valid
// while a folder has none yet.
