#include "model/editor_link.h"

#include "model/document.h"

static TEditorLink *currentLink = nullptr;

TEditorLink *EditorLink()
{
  return currentLink;
}

void SetEditorLink(TEditorLink *link)
{
  currentLink = link;
}

void SetModified(TZeltoAni *ani, bool modified)
{
  if (!ani)
    return;
  ani->Modified = modified;
  if (currentLink)
    currentLink->ModifiedChanged(ani);
}
