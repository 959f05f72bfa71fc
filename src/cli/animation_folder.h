// Where an animation's names resolve. The editor started with an animation file makes that file's
// folder the current folder, so the images, sounds and animations the file names by bare name are
// found there first and in the game folder after (ResolveFile). velk reads, draws and checks each
// animation the same way: inside the animation's folder, whatever the shell's current folder is,
// and back in the shell's folder before it writes anything.
#pragma once

#include <memory>
#include <string>

class TZeltoActor;
class TZeltoAni;

// The current folder while it exists: it returns to the folder it was made in when it goes.
class TAnimationFolder
{
public:
  TAnimationFolder();
  ~TAnimationFolder();
  TAnimationFolder(const TAnimationFolder &) = delete;
  TAnimationFolder &operator=(const TAnimationFolder &) = delete;

  // Makes folder the current folder; false with the system's reason.
  bool Enter(const std::string &folder, std::string &error);
  // Returns to the folder it was made in.
  void Leave();
  // The folder entered (absolute), or empty.
  const std::string &Folder() const { return entered_; }

private:
  int start_ = -1; // the folder it was made in, open
  std::string entered_;
};

// The file an animation name stands for, as the reader chooses it: a bare name ("walk") is
// resolved in the current folder, then the game folder; anything else is a path. Empty when a bare
// name is found nowhere.
std::string AnimationFile(const std::string &name);

// Reads the animation file as ReadAnimation reads name, inside the file's folder, which stays
// entered in folder. The document's Name and FileName are what ReadAnimation gives them. None with
// the reason in error.
std::unique_ptr<TZeltoAni> ReadInItsFolder(TZeltoActor *owner, const std::string &name, TAnimationFolder &folder,
                                           std::string &error);
