// Linux services; each lives in a file of its own next to this one.
