// Placeholder so that a library whose folder is still empty links.
