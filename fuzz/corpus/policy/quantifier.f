all [p1: string] [p2: string] [m: string] [t: date] (disclose-eval p1 p2 m t)
  (or (<ok> allowed p1 p2) (<subj> judged p1))
