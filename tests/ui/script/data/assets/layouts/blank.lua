-- A layout of comments and blank lines only.

   
-- It makes no window.
