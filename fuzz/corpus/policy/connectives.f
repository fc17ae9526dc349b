(and (all [x: string] (or (p x) false) (q x)) (imp (p "a") (q "a")) % a comment
 (* block *) true)